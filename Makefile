# The two set-up commands are `make run` and `make test`; both install what
# they need first.
.PHONY: all deps configure build run test install package bench asan tsan fuzz soak format screenshots clean

JOBS ?= $(shell nproc)
# Tests that open windows need a display; without one they run under Xvfb.
XVFB := $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1280x1024x24 -noreset")
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake --preset dev >/dev/null

build: configure
	@cmake --build --preset dev -j $(JOBS)

run: build
	./build/brevanto $(ARGS)

test: build
	$(XVFB) ctest --preset dev -j $(JOBS)

# Installs under PREFIX (DESTDIR stages it elsewhere) and, as root, makes the
# device-access rules take effect.
install: build
	cmake --install build --prefix "$(PREFIX)"
	@scripts/after-install.sh "$(PREFIX)"

# The Debian package build/brevanto_<version>_amd64.deb.
package: build
	cd build && cpack -G DEB

# latency_bench starts an X server of its own (Xvfb) and runs the program in it.
bench: build
	@for b in build/bench/*_bench; do echo "== $$b"; $$b; done

asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	$(XVFB) ctest --preset asan -j $(JOBS)

# The threads of the core and the platform back ends (timer, HID reader,
# clipboard) under ThreadSanitizer; Qt is not instrumented, so the Qt-based
# tests are left out.
tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan -j $(JOBS)
	./build-tsan/tests/core_tests --gtest_brief=1
	$(XVFB) ./build-tsan/tests/platform_tests --gtest_brief=1

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@set -e; for f in build-fuzz/fuzz/*_fuzz; do \
	  name=$$(basename $$f); mkdir -p build-fuzz/corpus/$$name fuzz/corpus/$$name; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  seeds=fuzz/corpus/$$name; test -d fuzz/regressions/$$name && seeds="$$seeds fuzz/regressions/$$name"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 build-fuzz/corpus/$$name $$seeds 2>&1 | tail -n 3; \
	done

# The real program for SOAK_MINUTES (default 30) under AddressSanitizer and
# UndefinedBehaviorSanitizer with virtual controllers pressing at random; see
# scripts/soak.sh for what it checks.
SOAK_MINUTES ?= 30
soak: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS) --target brevanto
	scripts/soak.sh $(SOAK_MINUTES)

# Pictures of the window for the documentation, from the sample data directory
# (copied, as the program saves its settings at exit) with a virtual
# controller holding a button. Output goes to the X server only.
screenshots: build
	@set -e; sample=$$(mktemp -d); trap 'rm -rf "$$sample"' EXIT; \
	  cp docs/screenshots/sample/* "$$sample"/; \
	  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ./build/brevanto --data-dir "$$sample" \
	    --virtual-pad="$$sample/pad.txt" --no-uinput --screenshots="$(CURDIR)/docs/screenshots"

format:
	@find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format -i

clean:
	rm -rf build build-asan build-tsan build-fuzz
