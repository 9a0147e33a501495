list(APPEND ZWIN_SOURCES
  gui/Handles.cpp
  gui/JpegImage.cpp
)
