# make run  — install what is missing, build the program, start it in workspace/
# make test — install what is missing, build the test configuration, run every test
# make package — build the Debian package build/package/tidemet_<version>_amd64.deb
JOBS ?= $(shell nproc)
CMAKE_GEN := $(shell command -v ninja >/dev/null 2>&1 && echo -G Ninja)
# Objects that ccache keeps are found again from any clone: paths count relative to the clone.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: run test deps build-release build-test build-tsan test-tsan bench fuzz clean package

deps:
	@scripts/install-deps

build-release: deps
	cmake -S . -B build/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DTIDEMET_TESTS=OFF
	cmake --build build/release -j $(JOBS)

run: build-release
	@mkdir -p workspace
	@if [ -x build/release/bin/tidemet ]; then \
	  cd workspace && ../build/release/bin/tidemet; \
	else \
	  cd workspace && ../build/release/bin/tidemet-cli --help; \
	fi

build-test: deps
	cmake -S . -B build/test $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTIDEMET_WERROR=ON \
	  -DTIDEMET_SANITIZE=address -DTIDEMET_BENCH=ON
	cmake --build build/test -j $(JOBS)

# The threaded device library also runs under ThreadSanitizer, in a build of its own.
build-tsan: deps
	@if [ -f zdaq/CMakeLists.txt ]; then \
	  cmake -S . -B build/tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTIDEMET_WERROR=ON \
	    -DTIDEMET_SANITIZE=thread -DTIDEMET_BENCH=OFF -DTIDEMET_GUI=OFF -DTIDEMET_COMPONENTS="zdaq;tools" \
	  && cmake --build build/tsan -j $(JOBS); fi

test: build-test build-tsan
	cd build/test && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  ctest --output-on-failure -j $(JOBS)
	@if [ -d build/tsan ]; then cd build/tsan && TSAN_OPTIONS=halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS); fi
	scripts/check-package

# The Debian package: a Release build of its own without tests and benchmarks, for the prefix /usr
# with the program's private libraries in lib/<multiarch>/tidemet (found through RUNPATH
# $$ORIGIN; outside the folders that ldconfig serves, so the package needs no ldconfig calls).
MULTIARCH := $(shell dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || echo x86_64-linux-gnu)
package: deps
	cmake -S . -B build/package $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DTIDEMET_TESTS=OFF \
	  -DTIDEMET_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_LIBDIR=lib/$(MULTIARCH)/tidemet
	cmake --build build/package -j $(JOBS)
	cd build/package && cpack -G DEB

bench: deps
	cmake -S . -B build/bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DTIDEMET_TESTS=OFF
	cmake --build build/bench -j $(JOBS)
	@for b in build/bench/bin/bench_*; do echo "== $$b"; $$b; done

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build/fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTIDEMET_FUZZ=ON -DTIDEMET_SANITIZE=address -DTIDEMET_BENCH=OFF -DTIDEMET_GUI=OFF
	cmake --build build/fuzz -j $(JOBS)

clean:
	rm -rf build
