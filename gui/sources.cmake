list(APPEND ZWIN_SOURCES
  gui/Handles.cpp
)
