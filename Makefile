# `make run` opens the window, `make test` builds and runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-sanitize
JOBS       ?= $(shell nproc)

.PHONY: all deps configure build run test test-fast sanitize bench clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/fenra

# Every test, then the whole suite again under the sanitizers.
test: test-fast sanitize

test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Address and undefined-behaviour sanitizers over the unit and window tests
# (the end-to-end test drives the release build and is left out here).
sanitize: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFENRA_SANITIZE=ON \
	       -DFENRA_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS) -LE e2e

bench: build
	$(BUILD)/bench/bench_render
	$(BUILD)/bench/bench_cli
	$(BUILD)/bench/bench_kernel

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
