# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: deps configure build run test bench clean format format-check tidy install deb

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

# A Debian package of the build, $(BUILD)/yearmark_<version>_<arch>.deb.
deb: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(BUILD)-bench

# The house style is whatever clang-format makes of our sources; `make test` refuses others.
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

format:
	@clang-format -i $(SOURCES)

format-check: deps
	@scripts/check-format

tidy: configure
	@scripts/run-tidy $(BUILD)
