list(APPEND ZCORE_SOURCES
  gui/PictureSizes.cpp
)
list(APPEND ZWIN_SOURCES
  gui/Application.cpp
  gui/BorderlessForm.cpp
  gui/ColorDialog.cpp
  gui/Controls.cpp
  gui/Dpi.cpp
  gui/Draw.cpp
  gui/Form.cpp
  gui/ImageList.cpp
  gui/JpegImage.cpp
  gui/PaintBuffer.cpp
  gui/Pictures.cpp
  gui/PopupMenu.cpp
  gui/StringGrid.cpp
  gui/Surface.cpp
  gui/Timer.cpp
  gui/Window.cpp
)
