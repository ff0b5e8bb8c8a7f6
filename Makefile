# The two set-up commands of the README: `make run` and `make test`.
# Both install what is missing first, then build with CMake.

BUILD_DIR ?= build
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
# DEMO=110 picks the demo game whose tables have the columns of game versions 1.10 to 1.14d;
# DEMO=d2r a Diablo II: Resurrected game folder with an empty mod folder.
DEMO ?=
ifneq ($(filter-out 110 d2r,$(DEMO)),)
$(error DEMO=$(DEMO) is not a demo game; use DEMO=110 or DEMO=d2r, or leave it out for the first one)
endif
DEMO_FOLDER := demo$(if $(DEMO),-$(DEMO))
DEMO_TARGET := demo_game$(if $(DEMO),_$(DEMO))

.PHONY: all deps configure build run test asan-test bench fuzz format clean demo-reset screenshots \
	install

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DCMAKE_INSTALL_PREFIX=$(PREFIX) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Starts the program in a working folder under the build folder, so that the files the
# program keeps in its current folder never land in the source tree.
run: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target tarvane dc6con $(DEMO_TARGET)
	@bash scripts/run-demo.sh $(BUILD_DIR) $(DEMO_FOLDER)

# Puts the demo back as it was built: its archives, its working folder and the settings there.
demo-reset: configure
	@rm -rf $(BUILD_DIR)/$(DEMO_FOLDER)
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target $(DEMO_TARGET)

# Remakes the README's pictures in docs/ from the real program, offscreen, on a fresh demo.
screenshots: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target tarvane_screenshots make_demo_game
	@rm -rf $(BUILD_DIR)/screenshots-demo
	@$(BUILD_DIR)/demo/make_demo_game demo $(BUILD_DIR)/screenshots-demo
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/screenshots/tarvane_screenshots \
		$(BUILD_DIR)/screenshots-demo docs
	@rm -rf $(BUILD_DIR)/screenshots-demo

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

asan-test: deps
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVANE_SANITIZE=ON \
		-DTARVANE_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		ctest --output-on-failure -j $(JOBS)

# Installs the program, dc6con, uniq.cfg, the README and a desktop entry with its icon under
# $(PREFIX); DESTDIR=<folder> stages the same tree inside that folder.
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR)

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b; done

fuzz: deps
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++ -DTARVANE_FUZZ=ON -DTARVANE_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers

format:
	@find src tests bench tools fuzz demo -name '*.cpp' -o -name '*.h' 2>/dev/null | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
