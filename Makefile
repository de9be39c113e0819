# Set-up, build, run and test on Debian 12. CMake is the build; this file
# only wraps the steps so that `make run` and `make test` work on a fresh machine.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
PREFIX     ?= /usr/local
FUZZ_SECONDS ?= 180
JOBS       ?= $(shell nproc)

PACKAGES = g++ cmake ninja-build make pkg-config qt6-base-dev libgl-dev \
           libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation \
           xvfb xauth x11-apps x11-utils xdotool openbox time imagemagick poppler-utils \
           desktop-file-utils shared-mime-info libxcb1-dev \
           man-db groff-base appstream dpkg-dev file lintian nlohmann-json3-dev \
           qt6-translations-l10n bindfs fuse3
FUZZ_PACKAGES = clang libclang-rt-14-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps fuzz-deps configure build run test test-asan bench fuzz install package clean

all: build

# Installs only what is missing, so a second run costs a dpkg query.
deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing Debian packages:" $$missing; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

fuzz-deps:
	@missing=$$(for p in $(FUZZ_PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "There is no display (DISPLAY is not set), so the window cannot be shown."; \
	  echo "Run it under a virtual X server instead:"; \
	  echo "  xvfb-run -s '-screen 0 1024x768x24' $(BUILD)/parieta"; \
	  exit 1; \
	fi
	./$(BUILD)/parieta

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The same suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPARIETA_SANITIZE=ON -DPARIETA_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done

# libFuzzer targets with ASan and UBSan; each runs FUZZ_SECONDS seconds.
fuzz: deps fuzz-deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPARIETA_FUZZ=ON -DPARIETA_GUI=OFF -DPARIETA_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for f in $(FUZZ_BUILD)/fuzz/fuzz_*; do \
	  [ -x "$$f" ] || continue; \
	  name=$$(basename $$f); extra=""; \
	  case $$name in fuzz_project_file) extra="-max_len=131072 fuzz/seeds_deep";; esac; \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $(FUZZ_BUILD)/corpus/$$name fuzz/seeds $$extra || exit 1; \
	done

# Programs, desktop entry, MIME package and icons under PREFIX; DESTDIR stages
# them for a package instead (the desktop's caches are then left alone).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A .deb of the same files under /usr, in $(BUILD); its dependencies are
# found by dpkg-shlibdeps.
package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
