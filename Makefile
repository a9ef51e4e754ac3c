# The two set-up commands of the README: `make run` and `make test`.
BUILD ?= build
# The sanitizer tree: the same tests on an AddressSanitizer and
# UndefinedBehaviorSanitizer build, plus the fuzz targets when clang is there.
ASAN_BUILD ?= build-asan
ASAN_CXX ?= $(shell command -v clang++-14 || command -v clang++ || command -v c++)
SANITIZER_ENV = \
	ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:check_initialization_order=1:strict_init_order=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0

.PHONY: run test deps configure build asan-configure asan-build deb deb-bare-test

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD)

asan-configure: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DBRELMO_SANITIZE=ON -DCMAKE_CXX_COMPILER=$(ASAN_CXX)

# Build steps run programs of the tree (the skin painter), so they need the options too.
asan-build: asan-configure
	$(SANITIZER_ENV) cmake --build $(ASAN_BUILD)

run: build
	scripts/run-player $(BUILD)

test: build asan-build
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j2
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD) --output-on-failure --no-tests=error -j2

# The Debian package, built by dpkg-buildpackage from debian/ into $(BUILD)/deb.
deb: deps
	scripts/build-deb $(BUILD)/deb

# The package installed and tested on a bare Debian 12 root (as root, with the archive).
deb-bare-test: deb
	tests/package/bare_debian.sh $(BUILD)
