list(APPEND ZWIN_SOURCES
  windows/Search.cpp
  windows/Unit3.cpp
  windows/Unit5.cpp
)
list(APPEND ZCORE_SOURCES
  windows/SearchFilter.cpp
)
