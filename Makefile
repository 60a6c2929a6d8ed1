# Corvane's front door. `make run` and `make test` install what is missing, build, and run.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
DEB_BUILD  ?= build-deb
# Seconds each fuzz harness runs in `make fuzz`; FUZZ_TARGETS names some harnesses (all when empty);
# FUZZ_RUNS=N also stops each after N executions.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
FUZZ_RUNS ?=
RUNDIR     ?= run
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?=

# Debian packages the build needs, and those the test suite needs on top.
BUILD_PACKAGES := cmake g++ make pkg-config qt6-base-dev libgl-dev libjpeg62-turbo-dev libgtest-dev libgmock-dev
TEST_PACKAGES  := xvfb xauth x11-utils xdotool imagemagick libjpeg-turbo-progs python3 openarena-server appstream desktop-file-utils
BENCH_PACKAGES := libbenchmark-dev xvfb xauth x11-utils
# The fuzz harnesses: clang, its libFuzzer and sanitizer runtimes, and llvm-symbolizer for
# readable stack traces.
FUZZ_PACKAGES  := clang libclang-rt-14-dev llvm
# Building the Debian package and checking its contents (lintian, the metainfo, the desktop
# entry); then starting the installed program under Xvfb.
DEB_PACKAGES   := dpkg-dev file lintian appstream desktop-file-utils
DEB_CHECK_PACKAGES := xvfb xauth x11-utils imagemagick

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

define install_missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:" $$missing; \
	  $(SUDO) apt-get update -q && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi
endef

.PHONY: all run test sanitize bench fuzz deb deb-check deps test-deps bench-deps fuzz-deps build build-asan clean levelshots

all: build

deps:
	$(call install_missing,$(BUILD_PACKAGES))

test-deps: deps
	$(call install_missing,$(TEST_PACKAGES))

bench-deps: deps
	$(call install_missing,$(BENCH_PACKAGES))

fuzz-deps: deps
	$(call install_missing,$(FUZZ_PACKAGES))

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Starts Corvane in a working folder that holds the shipped data, through the same launcher
# an installed Corvane uses: shipped files are brought in where the folder's copy is missing or
# still the one shipped before, a file the user changed is kept, and Corvane.ini is never touched.
# The first start that finds OpenArena's or Quake 3's data imports its level pictures.
run: build
	CORVANE_HOME="$(abspath $(RUNDIR))" CORVANE_DATA_DIR="$(CURDIR)/data" \
	  CORVANE_LEVELSHOTS="$(CURDIR)/tools/levelshots/levelshots.py" \
	  CORVANE_PROGRAM="$(CURDIR)/$(BUILD)/src/app/corvane" sh "$(CURDIR)/$(BUILD)/packaging/corvane-launcher"

test: test-deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: test-deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench: bench-deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON -DCORVANE_TESTS=ON $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	cd $(BENCH_BUILD) && $(MAKE) -s --no-print-directory -f $(CURDIR)/bench/run.mk SRC=$(CURDIR)

# Builds the fuzz harnesses with clang and libFuzzer (tests/fuzz) and runs each for
# FUZZ_SECONDS, after replaying its seeds and the inputs that once broke its reader.
fuzz: fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target corvane_fuzzers
	FUZZ_RUNS=$(FUZZ_RUNS) tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# The Debian package, $(DEB_BUILD)/corvane_VERSION_ARCH.deb, built with Debian's hardening flags;
# install it with `sudo apt-get install ./$(DEB_BUILD)/corvane_*.deb`.
DEB_BUILDFLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags
deb: deps
	$(call install_missing,$(DEB_PACKAGES))
	cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_BUILDFLAGS) --get CPPFLAGS) $$($(DEB_BUILDFLAGS) --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_BUILDFLAGS) --get LDFLAGS)" $(CMAKE_FLAGS)
	cmake --build $(DEB_BUILD) -j $(JOBS)
	rm -f $(DEB_BUILD)/corvane_*.deb
	cd $(DEB_BUILD) && cpack -G DEB

# Checks the package and installs it on this machine: see packaging/check-package.sh.
deb-check: deb
	$(call install_missing,$(DEB_CHECK_PACKAGES))
	sh packaging/check-package.sh $(DEB_BUILD)/corvane_*.deb

# Copies the level pictures of an installed game into the working folder:
#   make levelshots PAK=/usr/share/games/openarena/baseoa [GAME=q3|q2] [DEST=run] [FORCE=1] [SIZE=128]
GAME ?= q3
DEST ?= $(RUNDIR)
levelshots:
	@test -n "$(PAK)" || { echo "usage: make levelshots PAK=/path/to/file.pk3 [GAME=q3|q2] [DEST=$(RUNDIR)] [FORCE=1] [SIZE=128]" >&2; exit 2; }
	python3 tools/levelshots/levelshots.py --game "$(GAME)" --dest "$(DEST)" \
	  $(if $(filter 1 yes true,$(FORCE)),--force) $(if $(SIZE),--size "$(SIZE)") "$(PAK)"

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(DEB_BUILD)
