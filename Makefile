# The two commands of the README. Each installs what it needs first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_GEN := -G Ninja

.PHONY: all deps check demo release clean

all: release

deps:
	@bash scripts/install-deps.sh

# Tests under AddressSanitizer and UndefinedBehaviorSanitizer, then a build with
# the desktop program switched off, which proves that the core links no Qt.
check: deps
	cmake -S . -B $(BUILD)/check $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DRUVPELTON_SANITIZE=ON
	cmake --build $(BUILD)/check -j $(JOBS)
	cd $(BUILD)/check && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(BUILD)/nogui $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DRUVPELTON_GUI=OFF -DRUVPELTON_TESTS=OFF
	cmake --build $(BUILD)/nogui -j $(JOBS)

release: deps
	cmake -S . -B $(BUILD)/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DRUVPELTON_TESTS=OFF
	cmake --build $(BUILD)/release -j $(JOBS)

demo: release
	@bash scripts/demo.sh $(BUILD)/release

clean:
	rm -rf $(BUILD)
