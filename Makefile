# The two commands of the README. Each installs what it needs first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_GEN := -G Ninja

.PHONY: all deps check demo release bench fuzz fuzz-merge package package-check clean

all: release

deps:
	@bash scripts/install-deps.sh

# The formatting; then the core, the tools and their tests with the desktop program
# switched off, which proves that the core links no Qt; then the desktop program and its
# tests. Every test runs under AddressSanitizer and UndefinedBehaviorSanitizer, built with
# clang (twice as fast as g++ here; `make demo` builds with g++); ccache gives the second
# build the core's objects of the first; line tables are all the sanitizers' reports need.
# Warnings are errors here, where we check, and not in a distributor's build.
CHECK_CXX ?= clang++
CHECK_FLAGS = $(CMAKE_GEN) -DCMAKE_CXX_COMPILER=$(CHECK_CXX) -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only -DRUVPELTON_SANITIZE=ON -DRUVPELTON_WERROR=ON
check: deps
	bash scripts/check-format.sh
	cmake -S . -B $(BUILD)/nogui $(CHECK_FLAGS) -DRUVPELTON_GUI=OFF
	cmake --build $(BUILD)/nogui -j $(JOBS)
	cd $(BUILD)/nogui && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(BUILD)/check $(CHECK_FLAGS) -DRUVPELTON_CORE_TESTS=OFF
	cmake --build $(BUILD)/check -j $(JOBS)
	cd $(BUILD)/check && ctest --output-on-failure -j $(JOBS)

# Every fuzz target, one after another, for FUZZ_SECONDS each (default 180); a report of
# runs, coverage and findings at the end.
fuzz: deps
	bash scripts/fuzz.sh

# Folds the inputs make fuzz grew into the committed corpora, minimised.
fuzz-merge:
	bash scripts/fuzz-merge.sh

release: deps
	cmake -S . -B $(BUILD)/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DRUVPELTON_TESTS=OFF
	cmake --build $(BUILD)/release -j $(JOBS)

demo: release
	@bash scripts/demo.sh $(BUILD)/release

# The benchmarks of the speed goals: built in a release build of their own and run one
# after another (the window's with the offscreen platform).
bench: deps
	cmake -S . -B $(BUILD)/bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DRUVPELTON_TESTS=OFF \
	  -DRUVPELTON_BENCH=ON
	cmake --build $(BUILD)/bench -j $(JOBS)
	@bash scripts/bench.sh $(BUILD)/bench

# The Debian package of the release build, copied here: apt install ./ruvpelton_*.deb
package: release
	cd $(BUILD)/release && cpack -G DEB -B $(CURDIR)/$(BUILD)/package
	cp $(BUILD)/package/ruvpelton_*.deb .

# Builds the package, checks it with lintian and runs its programs from a scratch root (a
# minute on top of the release build, so not part of check).
package-check:
	@bash scripts/install-deps.sh lintian
	cmake -S . -B $(BUILD)/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DRUVPELTON_TESTS=OFF \
	  -DRUVPELTON_PACKAGE_TEST=ON
	cmake --build $(BUILD)/release -j $(JOBS)
	cd $(BUILD)/release && ctest --output-on-failure -R '^Package$$'

clean:
	rm -rf $(BUILD)
