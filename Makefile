# The README's two set-up commands, `make demo` and `make test`, each work on a fresh Debian 12
# machine: they install what is missing, configure, build and run.
JOBS      ?= $(shell nproc)
BUILD     ?= build
RELEASE   ?= build-release
ASAN      ?= build-asan
FUZZ      ?= build-fuzz
BENCH     ?= build-bench
WINDOWS   ?= build-windows
DIST      ?= dist
FUZZ_SECS ?= 30
CMAKE_GEN := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
# WERROR=ON makes warnings errors (CI sets it); a build configured before keeps its setting.
WERROR    ?= OFF
CMAKE_DEF := $(CMAKE_GEN) -DTARVIUM_WERROR=$(WERROR)

.PHONY: all deps build test demo release asan fuzz bench format clean windows test-windows package

all: build

deps:
	@scripts/install-deps

build: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) $(CMAKE_DEF) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

demo: build
	@examples/demo/run-demo $(BUILD)

# The programs as a packager builds them (-O3), without the tests.
release: deps
	@[ -f $(RELEASE)/CMakeCache.txt ] || cmake -S . -B $(RELEASE) $(CMAKE_DEF) -DCMAKE_BUILD_TYPE=Release \
	  -DTARVIUM_TESTS=OFF
	cmake --build $(RELEASE) -j $(JOBS)

asan: deps
	@[ -f $(ASAN)/CMakeCache.txt ] || cmake -S . -B $(ASAN) $(CMAKE_DEF) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
	  -DCMAKE_C_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
	cmake --build $(ASAN) -j $(JOBS)
	ctest --test-dir $(ASAN) -j $(JOBS) --output-on-failure

# The same sources as x86-64 Windows programs (Setup.exe and the Win32 services' tests), cross-built
# with Debian's mingw-w64 against libraries cross-built into a cache outside the tree; the tests
# run under Wine.
windows:
	@scripts/install-deps --windows
	@scripts/cross-build-windows-deps
	@[ -f $(WINDOWS)/CMakeCache.txt ] || cmake -S . -B $(WINDOWS) $(CMAKE_DEF) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	@cmake $(WINDOWS) -DTARVIUM_LINUX_BUILD=$(abspath $(BUILD)) > /dev/null
	cmake --build $(WINDOWS) -j $(JOBS)

# The scenarios on both machines compare with the Linux build's programs, so that is built too.
test-windows: build windows
	ctest --test-dir $(WINDOWS) -j $(JOBS) --output-on-failure

# The Debian package of the release build and the zip of the Windows build, written to $(DIST)
# (docs/packaging.md tells what they hold; tests/package/check-package checks them).
package: release windows
	@mkdir -p $(DIST) && rm -f $(DIST)/tarvium-setup[-_]*
	cd $(RELEASE) && cpack -G DEB -D CPACK_OUTPUT_FILE_PREFIX=$(abspath $(DIST))
	cd $(WINDOWS) && cpack -G ZIP -D CPACK_OUTPUT_FILE_PREFIX=$(abspath $(DIST))
	@echo "packages:" && ls -1 $(abspath $(DIST))/tarvium-setup[-_]*

fuzz: deps
	@[ -f $(FUZZ)/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(CMAKE_GEN) \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIUM_FUZZ=ON -DTARVIUM_TESTS=OFF
	cmake --build $(FUZZ) -j $(JOBS)
	@fuzz/run-all $(FUZZ) $(FUZZ_SECS)

bench: deps
	@[ -f $(BENCH)/CMakeCache.txt ] || cmake -S . -B $(BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	  -DTARVIUM_BENCH=ON -DTARVIUM_TESTS=OFF
	cmake --build $(BENCH) -j $(JOBS)
	@bench/run-all $(BENCH)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(RELEASE) $(ASAN) $(FUZZ) $(BENCH) $(WINDOWS) $(DIST)
