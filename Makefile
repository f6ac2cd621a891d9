# Set-up, build and test on Debian 12. `make run` and `make test` install any
# missing Debian packages first (as root, or through sudo).

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= 2
FUZZ_SECONDS ?= 30
PACKAGES   := g++ cmake make pkg-config qt6-base-dev libgl-dev libjpeg-dev \
              libgtest-dev googletest ffmpeg imagemagick mkvtoolnix clang libclang-rt-14-dev \
              help2man desktop-file-utils appstream dpkg-dev file libdvdread-dev \
              libtesseract-dev tesseract-ocr-eng tesseract-ocr-fra qt6-translations-l10n clang-format

# The sanitizer build is one clang build of everything - the GUI, the tests
# and the fuzz targets - with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, the latter stopping at its first finding. The
# suite runs leak-free without any suppression, Qt included.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
                 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# `make install` puts the programs under PREFIX (DESTDIR staged installs
# too); `make deb` packages the same files for Debian in $(BUILD)/.
PREFIX     ?= /usr/local

# Warnings fail the build (WERROR=OFF for a compiler we have not tried).
WERROR     ?= ON
# `make bench` measures on this file, made by bench/make_large_vob.sh when missing.
BENCH_VOB  ?= /tmp/mirtal-large-vob/disc/VIDEO_TS/VTS_01_1.VOB

.PHONY: setup configure build test run install deb configure-asan test-asan fuzz bench screenshots format clean

setup:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing Debian packages:$$missing"; \
	  if [ "$$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi; \
	  $$sudo apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y -q --no-install-recommends $$missing; \
	fi

configure: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRTAL_WERROR=$(WERROR)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

run: build
	./$(BUILD)/app/mirtal

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

deb: build
	cd $(BUILD) && cpack -G DEB

configure-asan: setup
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only -O1" \
	  -DCMAKE_CXX_COMPILER=clang++ -DMIRTAL_SANITIZE=ON -DMIRTAL_GUI=ON -DMIRTAL_FUZZ=ON \
	  -DMIRTAL_WERROR=$(WERROR)

test-asan: configure-asan
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j$(JOBS)

# Each fuzz target for FUZZ_SECONDS on its committed corpus (fuzz/corpus).
fuzz: configure-asan
	cmake --build $(ASAN_BUILD) -j$(JOBS) --target fuzz_targets
	$(SANITIZER_ENV) fuzz/run.sh $(ASAN_BUILD) $(FUZZ_SECONDS)

# Every figure of docs/PERFORMANCE.md, beside its baseline (as root it also
# measures from a cold page cache).
bench: configure
	cmake -S . -B $(BUILD) -DMIRTAL_BENCH=ON
	cmake --build $(BUILD) -j$(JOBS)
	[ -r "$(BENCH_VOB)" ] || bash bench/make_large_vob.sh
	bash bench/run_all.sh "$(BENCH_VOB)" $(BUILD) 3

# Every window at its default size in each shipped language, drawn by an X
# server with the fonts users have (needs xvfb-run: Debian's xvfb).
screenshots: configure
	cmake -S . -B $(BUILD) -DMIRTAL_BENCH=ON
	cmake --build $(BUILD) --target window_shots -j$(JOBS)
	xvfb-run -a -s "-screen 0 1600x1200x24" $(BUILD)/bench/window_shots docs/screenshots/windows Francais

# Every C++ source in the style of .clang-format (Debian 12's clang-format 14).
FORMAT_DIRS := src app cli tests bench fuzz
format: setup
	git ls-files $(FORMAT_DIRS) | grep -E '\.(cpp|h)$$' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
