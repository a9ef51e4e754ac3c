# The two set-up commands of the README: `make run` and `make test`.
BUILD ?= build

.PHONY: run test deps configure build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD)

run: build
	scripts/run-player $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j2
