list(APPEND ZCORE_SOURCES
  app/MainLogic.cpp
)
list(APPEND ZWIN_SOURCES
  app/MainSettings.cpp
  app/MainToolBar.cpp
  app/ProgramStart.cpp
  app/ProgramWindows.cpp
  app/TrayGauge.cpp
  app/TrayIcon.cpp
  app/main.cpp
)
