# Thin front end over CMake. `make run` builds the engine and its book (nothing else) and
# starts it in run/; `make install` installs them, `make deb` packs them for Debian;
# `make test` builds and runs every test, optimised, under the sanitizers and, for the
# Windows build, under Wine, and gives each fuzz target a short run; `make windows`
# cross-compiles the Windows programs; `make dist` writes the release archives;
# `make fuzz` runs the fuzz targets longer, `make soak` plays for hours.
JOBS ?= 2
# Seconds per fuzz target: `make fuzz FUZZ_TIME=600`; the test run's share is fixed.
FUZZ_TIME ?= 30
FUZZ_TEST_TIME := 20
# How long the soak starts new games: seconds, or minutes/hours with m/h.
SOAK_TIME ?= 1h
RELEASE_DIR := build/release
SANITIZE_DIR := build/sanitize
TSAN_DIR := build/tsan
WINDOWS_DIR := build/windows
WINDOWS64_DIR := build/windows64
RUN_DIR := run
DIST_DIR := dist

.PHONY: run configure engine build deb test test-release test-sanitize test-tsan test-windows \
	test-fuzz fuzz soak deps deps-match deps-deb deps-windows deps-fuzz windows windows64 dist install clean

deps:
	@scripts/install_deps.sh

# xboard, fairymax and Xvfb for the match test of the optimised run.
deps-match:
	@scripts/install_deps.sh match

# dpkg-dev and lintian, which pack and check the Debian package.
deps-deb:
	@scripts/install_deps.sh deb

# The mingw-w64 cross compilers and Wine (32-bit) for the Windows build and its tests.
deps-windows:
	@scripts/install_deps.sh windows

# clang and its libFuzzer runtime for the fuzz targets.
deps-fuzz:
	@scripts/install_deps.sh fuzz

configure: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release

# The engine and its book, without the tests and tools.
engine: configure
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target vostil book

build: configure
	cmake --build $(RELEASE_DIR) -j $(JOBS)

run: engine
	mkdir -p $(RUN_DIR)
	cp $(RELEASE_DIR)/Vostil.book $(RUN_DIR)/
	cd $(RUN_DIR) && ../$(RELEASE_DIR)/vostil

# Windows console programs, linked statically, with the book of the native build (the same
# bytes); the 32-bit build is the one tested, the 64-bit one is built alike.
# windows-build DIR TOOLCHAIN
define windows-build
	cmake -S . -B $(1) -DCMAKE_TOOLCHAIN_FILE=cmake/$(2).cmake -DCMAKE_BUILD_TYPE=Release \
	  -DVOSTIL_TESTS=OFF -DVOSTIL_BOOK_BUILDER=$(abspath $(RELEASE_DIR))/build_book
	cmake --build $(1) -j $(JOBS) --target vostil perft bench book
endef

windows: build
	$(call windows-build,$(WINDOWS_DIR),mingw-i686)

windows64: build
	$(call windows-build,$(WINDOWS64_DIR),mingw-x86_64)

test: test-release test-sanitize test-tsan test-windows test-fuzz

test-release: build deps-match deps-deb
	cd $(RELEASE_DIR) && ctest --output-on-failure -j $(JOBS) -LE 'wine|windows'

# Any sanitizer report aborts the process that made it, so it fails its test.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DVOSTIL_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  VOSTIL_SANITIZED=1 ctest --output-on-failure -j $(JOBS) -E 'Match\.' -LE 'wine|windows'

# The two-thread hand-over under ThreadSanitizer.
test-tsan: deps
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOSTIL_TSAN=ON
	cmake --build $(TSAN_DIR) -j $(JOBS) --target vostil vostil_tests
	cd $(TSAN_DIR) && TSAN_OPTIONS=halt_on_error=1:exitcode=66 \
	  ctest --output-on-failure -j $(JOBS) -R 'Handover|Event\.'

# The Windows build under Wine. Without the cross compiler or Wine (not root, nothing
# installed) the tests report themselves skipped. On a machine that runs no 32-bit programs
# the 64-bit build runs them instead (tests/windows/wine_loader.sh).
test-windows: build deps-windows
	@if command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1; then \
	  $(MAKE) --no-print-directory windows; \
	  if command -v wine >/dev/null 2>&1 && ! wine --version >/dev/null 2>&1; then \
	    echo "This machine runs no 32-bit programs: the 64-bit Windows build stands in under Wine."; \
	    $(MAKE) --no-print-directory windows64; \
	  fi; \
	else \
	  echo "No mingw-w64 cross compiler: the Windows tests report themselves skipped."; \
	fi
	cd $(RELEASE_DIR) && ctest --output-on-failure -j $(JOBS) -L 'wine|windows'

# Release archives named with the version (git describe, else the VERSION file, else
# unknown-<date>): the Linux engine and the 32-bit Windows engine, each with the book.
# `make dist DIST_PREBUILT=1 RELEASE_DIR=... WINDOWS_DIR=...` packs builds made before.
dist: $(if $(DIST_PREBUILT),,build windows)
	scripts/make_dist.sh $(RELEASE_DIR) $(WINDOWS_DIR) $(DIST_DIR)

# Every fuzz target under ASan + UBSan: replays the seeds and the kept regressions, then fuzzes.
test-fuzz: deps-fuzz
	JOBS=$(JOBS) scripts/run_fuzz.sh $(FUZZ_TEST_TIME)

fuzz: deps-fuzz
	JOBS=$(JOBS) scripts/run_fuzz.sh $(FUZZ_TIME)

# Unattended games and sanitizer conversations; the report ends in build/soak/report.txt.
soak: build deps-match
	tools/soak.sh $(SOAK_TIME)

install: engine
	cmake --install $(RELEASE_DIR) --prefix $(abspath $(or $(PREFIX),/usr/local))

# vostil_<version>_<arch>.deb in dist/ (dpkg-dev packs it; lintian checks it when installed).
deb: engine deps-deb
	scripts/make_deb.sh $(RELEASE_DIR) $(DIST_DIR)

clean:
	rm -rf build $(DIST_DIR)
