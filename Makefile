BUILD_DIR ?= build
JOBS ?= $(shell nproc)

PREFIX ?= /usr/local

.PHONY: all deps configure build run test test-sanitize fuzz bench install uninstall package clean

all: build

deps:
	@./scripts/install-deps

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: deps build
	./$(BUILD_DIR)/zentrix

test: deps build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The tests again, built with AddressSanitizer and UBSan in a folder of their own.
SANITIZE_DIR ?= build-sanitize
$(SANITIZE_DIR)/CMakeCache.txt:
	cmake -S . -B $(SANITIZE_DIR) -DZENTRIX_SANITIZE=ON -DZENTRIX_BENCH=OFF

test-sanitize: deps $(SANITIZE_DIR)/CMakeCache.txt
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# Every fuzz target built with libFuzzer (clang); run one with scripts/fuzz NAME SECONDS.
fuzz:
	./scripts/install-deps fuzz
	test -f build-fuzz/CMakeCache.txt || CC=clang CXX=clang++ cmake -S . -B build-fuzz \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTRIX_FUZZ=ON -DZENTRIX_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS) --target $$(cd build-fuzz && \
	  cmake --build . --target help | sed -n 's/^\.\.\. \(fuzz_[a-z0-9_]*\).*/\1/p')

bench: deps build
	./bench/run-benchmarks $(BUILD_DIR)

# Installs under PREFIX (default /usr/local); DESTDIR, when given, is put in front
# of every path (for packagers). The list of what went where stays in the build
# folder, and uninstall removes exactly that.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST=$(BUILD_DIR)/install_manifest.txt -P data/uninstall.cmake

# A Debian package (dependencies computed by dpkg-shlibdeps) in $(BUILD_DIR)/package.
package: build
	cd $(BUILD_DIR) && cpack --config CPackConfig.cmake
	@ls -1 $(BUILD_DIR)/package/*.deb

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) build-fuzz
