# make run   install what is missing, build, start zelvane.exe under Wine
# make test  install what is missing, build both builds, run every test
# make soak  the long run, the churn and the hostile campaign at full size
# make dist  the release: zelvane.exe built twice and compared, then dist/
# The user's journeys, driven from the outside with real input; each step
# confirms that its input reached the program (docs/RELIABILITY.md). No retry.
JOURNEYS = JOURNEYS_BUILD=$(CURDIR)/build/win32 JOURNEYS_SCREENS=$(CURDIR)/build/screens tools/journeys.sh

.PHONY: all setup host win32 run test test-host test-win32 soak dist screenshot clean

all: win32

setup:
	@tools/setup.sh

host: setup
	@cmake --preset host >/dev/null
	@cmake --build --preset host

win32: setup
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32

run: win32
	@tools/run.sh

screenshot: win32
	@DISPLAY= tools/run.sh

test-host: host
	@ctest --preset host -j2

test-win32: win32
	@tools/xrun ctest --preset win32
	@$(JOURNEYS)

test: test-host test-win32

# Full size (docs/RELIABILITY.md has the figures): about half an hour quiet.
soak: win32
	@ZELVANE_SOAK=1 tools/xrun ctest --preset win32 -R '^(LongRun|Churning|Hostile)\.' --timeout 7200 -V

# Builds in folders of its own (build/dist/), never in the test build.
dist: setup
	@tools/dist.py

clean:
	rm -rf build/host build/win32
