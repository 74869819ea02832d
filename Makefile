# The two entry points of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
FILE ?= tests/fixtures/pe/hello64.exe

.PHONY: all deps build run test clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
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

clean:
	rm -rf $(BUILD)
