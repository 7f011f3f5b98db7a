# The README's two commands: `make run` and `make test`. Each installs the
# Debian packages it needs, configures and builds first.
BUILD ?= build
CORE_SAN_BUILD ?= build-core-sanitize
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build run install-user test test-core-sanitize fuzz bench clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/dist/Tessup

# Installs build/dist/ for this user: the same questions as setup.
install-user: build
	$(BUILD)/dist/setup

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The core alone (no Qt found or linked), with AddressSanitizer and UBSan.
test-core-sanitize: deps
	TESSARINE_GUI=OFF scripts/install-deps.sh
	cmake -S . -B $(CORE_SAN_BUILD) -G Ninja -DTESSARINE_GUI=OFF -DTESSARINE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(CORE_SAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(CORE_SAN_BUILD) --output-on-failure -j $(JOBS)

fuzz:
	@scripts/install-deps.sh fuzz
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTESSARINE_GUI=OFF -DTESSARINE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz -j $(JOBS) --target tessarine_fuzzers

bench:
	@scripts/install-deps.sh bench
	cmake -S . -B build-bench -G Ninja -DTESSARINE_GUI=OFF -DTESSARINE_BENCH=ON -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j $(JOBS)

clean:
	rm -rf $(BUILD) $(CORE_SAN_BUILD) build-fuzz build-bench
