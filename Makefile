# Front door: each target installs what is missing, configures, builds, then does its job.
BUILD ?= build
ASAN_BUILD ?= build-asan
WEB_BUILD ?= build-web
MAP ?= demo
OUT ?= $(WEB_BUILD)/$(MAP)
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs
JOBS ?= $(shell nproc)
GL_DRIVER ?= /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so

.PHONY: all deps build run test test-asan bench fuzz-smoke capture check record clean format web web-build

all: build

deps:
	@bash scripts/install-deps

$(BUILD)/CMakeCache.txt:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS)

# Plays the bundled demo; with no display, captures it headless instead.
run: build
	@bash scripts/run-demo $(BUILD)

test: build web-build
	@cd $(BUILD) && ../scripts/with-display ctest --output-on-failure -j $(JOBS)

# The web player (emscripten) in build-web/: skarn.js + skarn.wasm.
$(WEB_BUILD)/CMakeCache.txt:
	@$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

web-build: deps $(WEB_BUILD)/CMakeCache.txt
	@$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)

# A map's show as a static web page: make web MAP=demo [OUT=folder] (default build-web/MAP/).
web: web-build
	@$(EMSCRIPTEN_ENV) SKARN_WEB_BUILD=$(CURDIR)/$(WEB_BUILD) tools/web/skarn-web $(MAP) $(OUT)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSKARN_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@# The GL driver stays preloaded so that its leaks keep a module name the suppressions match.
	@cd $(ASAN_BUILD) && SKARN_SANITIZED=1 ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 \
		SKARN_GL_DRIVER_PRELOAD=$(GL_DRIVER) LD_PRELOAD=$(GL_DRIVER) \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
		../scripts/with-display ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSKARN_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@scripts/with-display bash bench/run build-bench
	@$(MAKE) --no-print-directory web OUT=$(WEB_BUILD)/bench-demo MAP=demo >/dev/null
	@echo "== web_bench" && node bench/web_bench.js $(WEB_BUILD)/bench-demo

fuzz-smoke: deps
	@bash fuzz/run-smoke

capture: build
	@tools/capture demo

# The demo's whole show as a video with its music (needs no display).
record: build
	@mkdir -p capture
	@./$(BUILD)/skarn-record demo capture/demo.mp4

check: build
	@./$(BUILD)/skarn-check demo

format:
	@clang-format -i $$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'bench/*.cpp' 'fuzz/*.cpp')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-bench build-fuzz $(WEB_BUILD)
