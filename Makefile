# The two commands of the README. Each installs what it needs first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_GEN := -G Ninja

.PHONY: all deps check demo release clean

all: release

deps:
	@bash scripts/install-deps.sh

# The formatting, then every test under AddressSanitizer and UndefinedBehaviorSanitizer
# (built with clang, which compiles them in half the time), then the core, the tools and
# the core's tests once more with g++ and the desktop program switched off, which proves
# that the core links no Qt.
CHECK_CXX ?= clang++
check: deps
	bash scripts/check-format.sh
	cmake -S . -B $(BUILD)/check $(CMAKE_GEN) -DCMAKE_CXX_COMPILER=$(CHECK_CXX) \
	  -DCMAKE_BUILD_TYPE=Debug -DRUVPELTON_SANITIZE=ON -DRUVPELTON_BENCH=OFF
	cmake --build $(BUILD)/check -j $(JOBS)
	cd $(BUILD)/check && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(BUILD)/nogui $(CMAKE_GEN) -DCMAKE_CXX_COMPILER=g++ \
	  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DRUVPELTON_GUI=OFF
	cmake --build $(BUILD)/nogui -j $(JOBS)
	cd $(BUILD)/nogui && ctest --output-on-failure -j $(JOBS)

release: deps
	cmake -S . -B $(BUILD)/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DRUVPELTON_TESTS=OFF
	cmake --build $(BUILD)/release -j $(JOBS)

demo: release
	@bash scripts/demo.sh $(BUILD)/release

clean:
	rm -rf $(BUILD)
