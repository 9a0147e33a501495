list(APPEND ZWIN_SOURCES
  app/TrayIcon.cpp
)
list(APPEND ZCORE_SOURCES
  app/MainLogic.cpp
)
list(APPEND ZWIN_SOURCES app/BorderlessForm.cpp app/main.cpp app/ProgramWindows.cpp app/TrayGauge.cpp app/MainSettings.cpp)
list(APPEND ZWIN_SOURCES app/MainToolBar.cpp)
