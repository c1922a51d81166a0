# Front door: everything goes through CMake and Ninja in build/.
BUILD ?= build
JOBS ?= $(shell nproc)
# The suite's X server takes a display number picked at random far above the
# usual ones: a server of another container on this machine may hold a low
# number, and clients of one number reach whichever server answers first.
XVFB = xvfb-run -a -n $$(shuf -i 1000-30000 -n 1) -s "-screen 0 1280x1024x24"
ARGS ?=

.PHONY: all deps configure build run test package check-sanitize check-stress clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@test -f $(BUILD)/build.ninja || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/orvindel $(ARGS)

# A test that fails is run once more before it counts: on a loaded machine
# the shared X server now and then refuses a connection ("cannot open
# display"), which says nothing about the program. A real fault fails twice.
test: build
	cd $(BUILD) && $(XVFB) ctest --output-on-failure -j 2 --repeat until-pass:2

# A .deb in build/: apt-get install ./build/orvindel_*.deb
package: build
	cd $(BUILD) && cpack -G DEB

# Unit and window tests built with AddressSanitizer and UndefinedBehaviorSanitizer
# in a build folder of their own; the first report ends the test that made it.
ASAN_BUILD ?= build-asan
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer

check-sanitize: deps
	@test -f $(ASAN_BUILD)/build.ninja || cmake -S . -B $(ASAN_BUILD) -G Ninja \
	  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)"
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target unit_tests window_tests
	@tests/sanitize/run $(ASAN_BUILD)

# The program killed and signalled during start-up and close, hostile settings
# and list files, and a minute of each fuzz target.
check-stress: build
	@python3 tests/stress/stress.py --browser $(BUILD)/orvindel
	@scripts/fuzz 60

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
