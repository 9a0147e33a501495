list(APPEND ZCORE_SOURCES
  processes/ProcessActions.cpp
  processes/ProcessTable.cpp
)
