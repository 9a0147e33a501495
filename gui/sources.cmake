list(APPEND ZWIN_SOURCES
  gui/Handles.cpp
  gui/ImageList.cpp
  gui/JpegImage.cpp
  gui/PopupMenu.cpp
)
