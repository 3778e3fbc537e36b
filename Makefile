# The two commands of README: `make run` and `make test`. Both install what
# is missing, configure and build first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all setup configure build run test fuzz bench package clean

all: build

setup:
	@sh scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/bin/pit2014 ]; then cd $(BUILD)/bin && ./pit2014; \
	else echo "Program okienkowy nie jest jeszcze zbudowany; dostępny jest $(BUILD)/bin/pit2014cli."; fi

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The Debian package pit2014_<version>_<arch>.deb in $(BUILD).
package: build
	@cmake --build $(BUILD) --target package

# Each reader's fuzz target for FUZZ_SECONDS seconds (clang + libFuzzer).
FUZZ_SECONDS ?= 20
fuzz: setup
	@CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DPIT_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@sh scripts/run-fuzz.sh build-fuzz $(FUZZ_SECONDS)

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

clean:
	rm -rf $(BUILD) build-fuzz
