SHELL := /bin/bash
# Tarsk build entry points. Every target bootstraps first, so a fresh Debian
# machine needs nothing but `make test` (as root, it installs what is missing).
BUILD      := build
ASAN_BUILD := build-asan
FUZZ_BUILD := build-fuzz
FUZZ_TIME  ?= 20
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local
DESTDIR    ?=

.PHONY: all bootstrap bootstrap-windows build run test test-asan bench fuzz-smoke install package clean windows test-windows windows-dist

all: build

bootstrap:
	@scripts/bootstrap

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DTK_BENCH=ON

build: bootstrap $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/tarsk

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# `make install PREFIX=/usr DESTDIR=/tmp/stage`: the relocatable install tree.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package, in $(BUILD)/package/.
package: build
	cd $(BUILD) && cpack

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DTK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1

# Mesa's software rasterizer draws on the calling thread here: the leak
# checker stops every thread at exit, and llvmpipe's worker threads now and
# then crash its tracer ("Tracer caught signal 11") after a passing test.
# Even so its tracer still crashes now and then after a passing GL test, so
# a failed test gets one more run: a memory fault or a leak fails both.
test-asan: bootstrap $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	LP_NUM_THREADS=0 ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) --repeat until-pass:2

bench: build
	@for b in $(BUILD)/bench/*; do \
	  [ -f $$b ] && [ -x $$b ] || continue; \
	  echo "== $$b"; $$b || exit 1; \
	done

$(FUZZ_BUILD)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DTK_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo

fuzz-smoke: bootstrap $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for f in $(FUZZ_BUILD)/fuzz/*; do \
	  [ -f $$f ] && [ -x $$f ] || continue; \
	  echo "== $$f ($(FUZZ_TIME) s)"; \
	  name=$$(basename $$f); mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
	  seeds=; [ -d fuzz/corpus/$$name ] && seeds=fuzz/corpus/$$name; \
	  $$f -max_total_time=$(FUZZ_TIME) -rss_limit_mb=2048 -print_final_stats=0 \
	    $(FUZZ_BUILD)/corpus/$$name $$seeds 2>&1 | tail -n 3; \
	  test $${PIPESTATUS[0]} -eq 0 || exit 1; \
	done

# Windows, cross-built with mingw-w64 and tested under Wine (README,
# "Windows"). scripts/bootstrap-windows prepares the toolchain and the
# dependency prefix (built once per machine, in the user's cache, and linked
# as build-win-deps/); the Linux targets never pay for it.
WIN_BUILD  := build-win
VERSION     = $(shell sed -n 's/^project.Tarsk VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

$(WIN_BUILD)/build.ninja:
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release

windows: bootstrap-windows $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS) --target tarsk

bootstrap-windows:
	@scripts/bootstrap-windows

# Every test binary under Wine (one run each), the same-output check against
# the Linux build and the zip and installer of windows-dist; a Wine that
# cannot start fails the run (wineboot first, so its own set-up is not
# counted against a test's time). Windows has no EGL for SDL's offscreen
# driver, so the GL tests draw in hidden windows on an X server of their own
# (Xvfb, 24-bit for Mesa's GLX visuals); xvfb-run fails the run when it
# cannot start one.
test-windows: build bootstrap-windows $(WIN_BUILD)/build.ninja
	scripts/wine-run wineboot --init
	cmake --build $(WIN_BUILD) -j $(JOBS)
	scripts/windows-dist $(WIN_BUILD) $(VERSION) >/dev/null
	xvfb-run -a -s '-screen 0 1280x1024x24 -nolisten tcp' \
	  ctest --test-dir $(WIN_BUILD) --output-on-failure -j $(JOBS)

windows-dist: windows
	scripts/windows-dist $(WIN_BUILD) $(VERSION)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD)
