# Front door: everything goes through CMake and Ninja in build/.
BUILD ?= build
JOBS ?= $(shell nproc)
XVFB = xvfb-run -a -s "-screen 0 1280x1024x24"
ARGS ?=

.PHONY: all deps configure build run test clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@test -f $(BUILD)/build.ninja || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/orvindel $(ARGS)

test: build
	cd $(BUILD) && $(XVFB) ctest --output-on-failure -j 2

clean:
	rm -rf $(BUILD)
