list(APPEND ZWIN_SOURCES
  app/TrayIcon.cpp
)
