# The front door: `make run` builds the console in Release and starts it,
# `make web` the calculator page's server, `make static` the page as a folder
# any static file server hosts (its engine in WebAssembly), `make build` what
# the README's examples run, `make test` builds and runs every test, `make
# bench` runs the benchmarks.

# libboost-dev: Boost.Beast, header-only, serves varnolith_web with bounds on
# header bytes, bodies, request time and connections.
PACKAGES := g++ cmake libgtest-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev libboost-dev pkgconf python3 python3-venv
# The browser tests: Debian's Chromium, driven from Node.js (which a machine
# may have from elsewhere: only a missing node or npm command is installed).
TEST_PACKAGES := chromium $(if $(shell command -v node),,nodejs) $(if $(shell command -v npm),,npm)
RELEASE_DIR := build/release

.PHONY: all build run web static static-test test bench asan tsan fuzz dev deps clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Run: sudo apt-get install -y$$missing"; exit 1; \
	  fi; \
	fi

# What the README's examples run: the three programs and the two libraries.
build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target varnolith_cli varnolith_command varnolith_web varnolith varnolith_range

# Only the console and what it links: no tests or benchmarks before the prompt.
run: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target varnolith_cli
	@./$(RELEASE_DIR)/varnolith_cli

# The calculator page on this machine: http://127.0.0.1:8080/ (PORT= to change).
PORT ?= 8080
web: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target varnolith_web
	@./$(RELEASE_DIR)/varnolith_web --port $(PORT)

# build/static: the page's files and the engine compiled by Debian's emscripten
# (3.1.6), whose tools run on Node.js's modules from NODE_PATH.
static: PACKAGES := cmake emscripten
static: deps
	NODE_PATH=/usr/share/nodejs cmake --preset static >/dev/null
	NODE_PATH=/usr/share/nodejs cmake --build --preset static
	NODE_PATH=/usr/share/nodejs cmake --preset static-threads >/dev/null
	NODE_PATH=/usr/share/nodejs cmake --build --preset static-threads
	@echo "build/static is the page: serve it with any static file server, e.g."
	@echo "  python3 -m http.server --directory build/static 8000   then open http://127.0.0.1:8000/"
	@echo "(served with the headers of the README's \"The page with nothing to install\", it runs on every core)"

# The static page's browser tests, served by a plain file server, its figures
# held to the command's.
static-test: PACKAGES += $(TEST_PACKAGES)
static-test: static build
	tests/static/run.sh

test: PACKAGES += $(TEST_PACKAGES)
test: deps
	cmake --workflow --preset release

bench: deps
	cmake --preset release >/dev/null
	cmake --build --preset release
	@for b in $(RELEASE_DIR)/bench/bench_*; do echo "== $$b"; $$b; done
	@if [ -d tests/web/node_modules/playwright-core ]; then echo "== bench/page_load.mjs"; \
	  VARNOLITH_WEB=$(RELEASE_DIR)/varnolith_web node bench/page_load.mjs; \
	else echo "== bench/page_load.mjs: run make test first (it installs playwright-core)"; fi
	@if [ -f build/static/js/varnolith_engine.wasm ]; then echo "== bench/static_engine.mjs"; \
	  node bench/static_engine.mjs; \
	  if [ -d tests/web/node_modules/playwright-core ]; then echo "== bench/static_page.mjs"; node bench/static_page.mjs; fi; \
	else echo "== bench/static_engine.mjs: run make static first"; fi

dev: deps
	cmake --workflow --preset dev

asan: deps
	cmake --workflow --preset asan

# ThreadSanitizer only sees OpenMP's barriers through LLVM's runtime and its
# archer tool, so this one builds with clang.
tsan: PACKAGES += clang libomp-dev libclang-rt-14-dev
tsan: deps
	cmake --workflow --preset tsan

# libFuzzer over the notation parsers, the whole dialogue and the four exports,
# ten minutes each (FUZZ_SECONDS to change).
FUZZ_SECONDS ?= 600
fuzz: PACKAGES += clang libomp-dev libclang-rt-14-dev
fuzz: deps
	cmake --workflow --preset fuzz
	fuzz/run.sh $(FUZZ_SECONDS)

clean:
	rm -rf build
