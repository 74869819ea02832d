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

run: build
	$(BUILD)/quiddity "$(FILE)"

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
