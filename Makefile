# Two entry points for a fresh Debian machine: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test test-suite bench package clean test-sanitize fuzz lint lint-fast

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@bash scripts/run

# Everything CI runs: the test suite, the fast static checks (format, cppcheck: seconds) and
# the suite again under the sanitizers. clang-tidy is `make lint`: it takes far longer.
test: test-suite
	@bash scripts/lint format
	@bash scripts/lint cppcheck
	@$(MAKE) --no-print-directory test-sanitize

test-suite: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The Debian package, left in $(BUILD_DIR)/ (zynta_<version>_<arch>.deb).
package: build
	@cd $(BUILD_DIR) && cpack

# Every static check, clang-tidy over the whole compile database included (scripts/lint).
lint: configure
	@BUILD_DIR=$(BUILD_DIR) JOBS=$(JOBS) bash scripts/lint

lint-fast: deps
	@bash scripts/lint format
	@bash scripts/lint cppcheck

# The benchmarks, then zynta-cli batch side by side with the same rows done in Python with the
# fluids library (bench/peer_batch.py).
bench: build
	@bash scripts/install-deps --bench
	@$(BUILD_DIR)/bin/zynta-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	@/usr/bin/python3 bench/peer_batch.py $(BUILD_DIR)/bin/zynta-cli

# Every headless target (no Qt window, no benchmarks) and the whole ctest suite under
# AddressSanitizer and UBSan, with assertions on; any report fails the run.
SANITIZE_DIR ?= build-sanitize
SANITIZE_FLAGS := -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined

test-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZYNTA_GUI=OFF \
	  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
	  -DCMAKE_CXX_FLAGS="-O1 $(SANITIZE_FLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)" >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	@cd $(SANITIZE_DIR) && \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# libFuzzer targets (clang), each run for FUZZ_TIME seconds from its seed corpus (fuzz/run).
FUZZ_DIR ?= build-fuzz
FUZZ_TIME ?= 30

fuzz: deps
	@CC=clang CXX=clang++ cmake -S fuzz -B $(FUZZ_DIR) -G Ninja >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)
	@bash fuzz/run $(FUZZ_DIR) $(FUZZ_TIME)

clean:
	@rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
