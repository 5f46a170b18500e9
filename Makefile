# The two commands a newcomer needs: `make run` and `make test`. Each first installs the Debian
# packages that are missing (through apt-get, as root or with sudo).
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_ARGS ?=

.PHONY: all deps build run test bench install deb clean format format-check

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

# Optimised build, on a virtual X server and a session bus of its own (as a desktop has one);
# the table also goes to bench-results.json.
bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSNAPVALE_TESTS=OFF
	cmake --build build-bench
	dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24" build-bench/bench/snapvale_bench \
	    $(CURDIR)/bench-results.json

install: build
	cmake --install $(BUILD)

# The Debian package, snapvale_<version>_<arch>.deb here, built with Debian's hardening flags
# (all of them) into /usr; `sudo apt-get install ./snapvale_*.deb` installs it.
deb: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
deb: deps
	CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DSNAPVALE_TESTS=OFF \
	    -DSNAPVALE_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build build-deb
	cd build-deb && cpack -G DEB -B $(CURDIR)/build-deb/package
	cp build-deb/package/snapvale_*.deb .

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD)
