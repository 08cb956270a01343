# SPDX-License-Identifier: GPL-3.0-or-later
# make run  - installs what is missing, builds, starts Quelvo wired to the simulated NC control
# make test - the same set-up, then every test (the core tests again under ASan+UBSan, each fuzzing program briefly)
# make bench - builds and runs the benchmarks
# make fuzz  - runs each fuzzing program for FUZZ_SECONDS (make test runs them briefly)
# make package - builds the Debian package $(BUILD)/quelvo_<version>_<arch>.deb (installs into /usr)

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TEST_SECONDS ?= 3
JOBS       ?= $(shell nproc)

.PHONY: deps build run test test-asan test-fuzz fuzz bench clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-demo $(BUILD)

test: build test-asan test-fuzz
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUELVO_CORE_ONLY=ON -DQUELVO_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

test-fuzz: deps
	JOBS=$(JOBS) FUZZ_SEED=1 scripts/run-fuzz $(FUZZ_TEST_SECONDS) $(FUZZ_BUILD)

fuzz: deps
	JOBS=$(JOBS) scripts/run-fuzz $(FUZZ_SECONDS) $(FUZZ_BUILD)

bench: build
	scripts/run-bench $(BUILD)

.PHONY: package
package: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(BUILD) -j $(JOBS) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
