# Entry points: `make demo` and `make test` install what is missing, build and run.
BUILD_DIR ?= build
ASAN_DIR  ?= build-sanitize
BENCH_DIR ?= build-bench
JOBS      ?= $(shell nproc)
CMAKE_ARGS ?=
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

PREFIX    ?= /usr/local

.PHONY: all deps build test demo test-sanitize bench install format format-check clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_ARGS)

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

demo: build
	./$(BUILD_DIR)/examples/spectrum_demo

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

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

format:
	clang-format -i $(FORMAT_FILES)

format-check:
	@clang-format --dry-run --Werror $(FORMAT_FILES)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(BENCH_DIR)
