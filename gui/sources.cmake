list(APPEND ZCORE_SOURCES
  gui/PictureSizes.cpp
)
list(APPEND ZWIN_SOURCES
  gui/Accessible.cpp
  gui/Application.cpp
  gui/BorderlessForm.cpp
  gui/ColorDialog.cpp
  gui/ControlAccessible.cpp
  gui/ControlAnswers.cpp
  gui/Controls.cpp
  gui/Dpi.cpp
  gui/Draw.cpp
  gui/ErrorReport.cpp
  gui/ForeignLoop.cpp
  gui/Form.cpp
  gui/GridAccessible.cpp
  gui/ImageList.cpp
  gui/JpegImage.cpp
  gui/PaintBuffer.cpp
  gui/Pictures.cpp
  gui/PopupMenu.cpp
  gui/StringGrid.cpp
  gui/Surface.cpp
  gui/SurfaceLabels.cpp
  gui/SurfaceLayout.cpp
  gui/SurfaceAccessible.cpp
  gui/Timer.cpp
  gui/TitlePanel.cpp
  gui/Window.cpp
)

# The screen-reader objects answer a reader's calls, never a hot path: built
# for size (about 31 KB of code in zelvane.exe).
set_source_files_properties(
  gui/Accessible.cpp gui/ControlAccessible.cpp gui/ControlAnswers.cpp gui/GridAccessible.cpp gui/SurfaceAccessible.cpp
  PROPERTIES COMPILE_OPTIONS -Os)
