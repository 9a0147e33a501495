list(APPEND ZCORE_SOURCES
  processes/KnownPaths.cpp
  processes/ProcessActions.cpp
  processes/ProcessTable.cpp
  processes/SystemProcessList.cpp
)
list(APPEND ZWIN_SOURCES
  processes/ProcessControlWin32.cpp
  processes/ProcessSnapshot.cpp
)
