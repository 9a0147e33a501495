list(APPEND ZWIN_SOURCES
  gui/Application.cpp
  gui/ColorDialog.cpp
  gui/Controls.cpp
  gui/Form.cpp
  gui/Handles.cpp
  gui/ImageList.cpp
  gui/JpegImage.cpp
  gui/PaintBuffer.cpp
  gui/Locale.cpp
  gui/PopupMenu.cpp
  gui/Surface.cpp
  gui/Timer.cpp
  gui/Window.cpp
)
list(APPEND ZWIN_SOURCES gui/StringGrid.cpp)
