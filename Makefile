# Two commands do all the set-up on a fresh Debian 12 machine:
#   make run    install what is missing, build, start the program
#   make test   install what is missing, build, run the whole test suite
BUILD ?= build
JOBS ?= 2

.PHONY: run test test-main test-sanitize test-fuzz build deps bench package clean

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display found: start the program from a desktop session, or run it headless with 'xvfb-run make run'."; \
	  exit 1; \
	fi
	$(BUILD)/bin/brevant

# Everything CI checks: the build and its suite (with the crash-safety and
# real-display tests), the same suite under AddressSanitizer, LeakSanitizer
# and UndefinedBehaviorSanitizer, then every fuzz target for a minute.
test: test-main test-sanitize test-fuzz

test-main: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

test-fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	ctest --preset fuzz -j $(JOBS)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

# The benchmark suite, in a Release build of its own (not part of make test):
# one table on the terminal and the same as CSV in $(BENCH_BUILD)/bench.csv.
BENCH_BUILD ?= build-bench
bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target brevant_bench
	cd $(BENCH_BUILD) && if command -v xvfb-run >/dev/null; then \
	  xvfb-run -a -s "-screen 0 1280x1024x24" bench/brevant_bench --csv bench.csv; \
	else \
	  bench/brevant_bench --csv bench.csv; \
	fi

# The Debian package, in $(BUILD)/package/
package: build
	cmake --build $(BUILD) --target package

# The Debian packages for the goals asked for (scripts/packages/): make run
# installs what building and running need, make test (and each test-*) adds
# the test suite's, make bench the benchmarks', make package the packaging
# tools; make build and make deps only what the build needs.
DEPS_FOR ?= $(or $(sort $(patsubst test-%,test,$(filter run test test-% bench package,$(or $(MAKECMDGOALS),run)))),build)
deps:
	@scripts/install-deps.sh $(DEPS_FOR)

clean:
	rm -rf $(BUILD) build-sanitize build-sanitize-clang build-fuzz
