# The two entry points of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
FILE ?= tests/fixtures/pe/hello32.exe
# WERROR=ON (as CI sets it) makes every compiler warning an error.
WERROR ?= OFF

.PHONY: all deps build run test clean asan-test fuzz-build fuzz fuzz-smoke install deb

all: build

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIDDITY_WERROR=$(WERROR) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# The browser when there is a display (FILE=path opens that path in it),
# otherwise the report of the sample file.
BROWSE := $(if $(filter command line,$(origin FILE)),"$(FILE)",)
run: build
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then \
		$(BUILD)/quiddity-gui $(BROWSE); \
	else \
		$(BUILD)/quiddity "$(FILE)"; \
		echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): the report above is of $(FILE)."; \
		echo "Start the browser on a desktop with: $(BUILD)/quiddity-gui [PATH]"; \
	fi

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Installs under PREFIX (DESTDIR=... stages it elsewhere, as packagers do).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"

# build/quiddity_VERSION_ARCH.deb; installs with: apt-get install ./build/quiddity_*.deb
deb: build
	cd $(BUILD) && cpack -G DEB

# The safety net: the test suite under AddressSanitizer and UBSan, and the
# libFuzzer targets of fuzz/ (clang), each in a build folder of its own.
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 20
# The list of suppressions that matched is not printed: it would end up in
# the output of every test that reads what the program writes to stderr.
export LSAN_OPTIONS = suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS = print_stacktrace=1

asan-test: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIDDITY_SANITIZE=ON -DQUIDDITY_WERROR=$(WERROR) >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIDDITY_FUZZ=ON -DQUIDDITY_BUILD_GUI=OFF -DBUILD_TESTING=OFF -DQUIDDITY_WERROR=$(WERROR) >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	fuzz/run-fuzzers.sh $(FUZZ_SECONDS) $(FUZZ_BUILD)

fuzz-smoke: fuzz-build
	fuzz/run-fuzzers.sh $(FUZZ_SMOKE_SECONDS) $(FUZZ_BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
