# `make run` opens the window, `make test` builds and runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-sanitize-clang
JOBS       ?= $(shell nproc)

.PHONY: all deps test-deps configure build build-all run test test-fast sanitize bench clean

all: build

# What building and running need; the tests' packages come with `make test`.
deps:
	@scripts/install-deps.sh

test-deps:
	@scripts/install-deps.sh --test

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DFENRA_BUILD_TESTS=OFF -DFENRA_BUILD_BENCH=OFF >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The programs with the tests and the benchmarks.
build-all: test-deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DFENRA_BUILD_TESTS=ON -DFENRA_BUILD_BENCH=ON \
	       -DFENRA_WERROR=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/fenra

# Every test (the format check among them) built with g++, then the suite again built with clang
# under the sanitizers; both builds treat a warning as an error.
test: test-fast sanitize

test-fast: build-all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Address and undefined-behaviour sanitizers over the unit and window tests, built with clang
# (the end-to-end test drives the release build, and the limits test needs an unlimited address
# space that the sanitizers' runtime takes; both are left out here, as is the format check that
# the first pass ran).
sanitize: test-deps
	@CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFENRA_SANITIZE=ON \
	       -DFENRA_BUILD_BENCH=OFF -DFENRA_WERROR=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS) -LE 'e2e|limits|format'

bench: build-all
	$(BUILD)/bench/bench_render
	$(BUILD)/bench/bench_cli
	$(BUILD)/bench/bench_kernel
	$(BUILD)/bench/bench_studio
	$(BUILD)/bench/bench_animate
	$(BUILD)/bench/bench_sizes

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-sanitize
