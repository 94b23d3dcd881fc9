# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: deps configure build run test bench clean format format-check tidy install deb sanitize fuzz

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	./$(BUILD)/yearmark

test: format-check build
	ctest --test-dir $(BUILD) --output-on-failure -j2

bench: deps
	@cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DYEARMARK_BENCH=ON -DYEARMARK_TESTS=OFF >/dev/null
	@cmake --build $(BUILD)-bench
	@bench/run-all $(BUILD)-bench

# Into /opt/yearmark with /usr/bin/yearmark; DESTDIR=… and PREFIX=… for packagers.
install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# The Debian package, $(BUILD)-deb/yearmark_<version>_<arch>.deb, cut from a build of its own
# that holds only what the package does (the program, its media module, its help and its
# artwork) and needs only the build dependencies. Compiled as the tested build is, so that the
# package ships the code the suite ran.
deb:
	@scripts/install-deps deb
	@cmake -S . -B $(BUILD)-deb -G Ninja $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DYEARMARK_TESTS=OFF -DYEARMARK_BENCH=OFF -DYEARMARK_FUZZ=OFF >/dev/null
	@cmake --build $(BUILD)-deb
	cd $(BUILD)-deb && cpack -G DEB

# The whole suite, end-to-end tests included, built with the address and undefined-behaviour
# sanitizers in a folder of its own. libfaketime is preloaded ahead of the sanitizer's runtime
# in the end-to-end tests, hence verify_asan_link_order=0; the leak suppressions name system
# libraries only (see the file). Warnings are the ordinary build's business; the sanitizers'
# own code generation must not stop this one.
SANITIZERS = -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
sanitize: deps
	@cmake -S . -B $(BUILD)-sanitize -G Ninja $(CMAKE_FLAGS) -DYEARMARK_WERROR=OFF \
	  "-DCMAKE_C_FLAGS=$(SANITIZERS)" \
	  "-DCMAKE_CXX_FLAGS=$(SANITIZERS)" "-DCMAKE_EXE_LINKER_FLAGS=$(SANITIZERS)" >/dev/null
	@cmake --build $(BUILD)-sanitize
	ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan-suppressions.txt:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(BUILD)-sanitize --output-on-failure -j2

# Every fuzz target for FUZZ_SECONDS each; fails on a crash, leak, timeout or running out of
# memory (scripts/run-fuzz). Warnings are held to gcc's set: clang's -Wconversion asks for
# more (sign conversions) and would stop the build, so here they stay warnings.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = template_expansion settings_file jpeg_picture bmp_picture help_contents help_page
fuzz:
	@scripts/install-deps fuzz
	@cmake -S . -B $(BUILD)-fuzz -G Ninja $(CMAKE_FLAGS) -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DYEARMARK_TESTS=OFF -DYEARMARK_FUZZ=ON -DYEARMARK_WERROR=OFF \
	  >/dev/null
	@cmake --build $(BUILD)-fuzz --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@scripts/run-fuzz $(BUILD)-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-sanitize $(BUILD)-fuzz $(BUILD)-deb

# The house style is whatever clang-format makes of our sources; `make test` refuses others.
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

format:
	@clang-format -i $(SOURCES)

format-check: deps
	@scripts/check-format

tidy: configure
	@scripts/run-tidy $(BUILD)
