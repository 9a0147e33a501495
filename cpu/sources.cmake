list(APPEND ZCORE_SOURCES
  cpu/CpuUsageSampler.cpp
  cpu/LoadIndicator.cpp
  cpu/PerfBlockBuilder.cpp
  cpu/PerfData.cpp
)
list(APPEND ZWIN_SOURCES
  cpu/CpuUsageSamplerWin32.cpp
)
