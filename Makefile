# Entry points: `make demo` and `make test` install what is missing, build and run.
SHELL := /bin/bash
BUILD_DIR ?= build
ASAN_DIR  ?= build-sanitize
BENCH_DIR ?= build-bench
JOBS      ?= $(shell nproc)
CMAKE_ARGS ?=
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

PREFIX    ?= /usr/local
FUZZ_DIR  ?= build-fuzz
FUZZ_SECONDS ?= 60
# 1: a finding fails the run; 0: findings are listed (their inputs kept in the artifacts folder) only.
FUZZ_STRICT ?= 1

.PHONY: all deps build test demo test-sanitize bench install fuzz fuzz-build format format-check clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_ARGS)

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# Compares the measured sample chart with its reference: per-patch CIEDE2000 and the summary.
demo: build
	./$(BUILD_DIR)/tools/tintvale compare data/samples/chart_reference.txt data/samples/chart_measured.txt

test-sanitize: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTINTVALE_SANITIZE=ON $(CMAKE_ARGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTVALE_BUILD_TESTS=OFF \
	  -DTINTVALE_BUILD_BENCH=ON $(CMAKE_ARGS)
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@for b in $(BENCH_DIR)/bench/*_bench; do [ -x "$$b" ] || continue; "$$b" || exit 1; done
	cmake --build $(BENCH_DIR) --target bench_python
	cmake --build $(BENCH_DIR) --target bench_batch
	cmake --build $(BENCH_DIR) --target bench_lab
	cmake --build $(BENCH_DIR) --target bench_convert_memory

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

fuzz-build: deps
	cmake -S fuzz -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_DIR) -j $(JOBS)

# Each target runs FUZZ_SECONDS on a working copy of its checked-in seeds (fuzz/corpus/<target>).
fuzz: fuzz-build
	@for b in $(FUZZ_DIR)/fuzz_*; do \
	  [ -x "$$b" ] || continue; name=$$(basename $$b); \
	  mkdir -p $(FUZZ_DIR)/work/$$name; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  mkdir -p $(FUZZ_DIR)/artifacts; ASAN_OPTIONS=detect_leaks=1 $$b -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 -timeout=10 \
	    -artifact_prefix=$(FUZZ_DIR)/artifacts/$$name- \
	    -print_final_stats=1 $(FUZZ_DIR)/work/$$name fuzz/corpus/$$name 2>&1 | \
	    grep -E '^(stat::number_of_executed_units|==|SUMMARY)|ERROR' ; \
	  if [ $${PIPESTATUS[0]} -ne 0 ]; then \
	    echo "finding kept in $(FUZZ_DIR)/artifacts"; [ "$(FUZZ_STRICT)" = 0 ] || exit 1; \
	  fi; \
	done

format:
	clang-format -i $(FORMAT_FILES)

format-check:
	@clang-format --dry-run --Werror $(FORMAT_FILES)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(BENCH_DIR) $(FUZZ_DIR)
