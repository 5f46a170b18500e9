# The two commands a newcomer needs: `make run` and `make test`. Each first installs the Debian
# packages that are missing (through apt-get, as root or with sudo).
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_ARGS ?=

.PHONY: all deps build run test install clean format format-check

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS)
	cmake --build $(BUILD)

run: build
	$(BUILD)/src/app/snapvale

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300

install: build
	cmake --install $(BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD)
