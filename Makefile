# The two front-door commands:
#   make run [FILE=path]   install what is missing, build, run varrow-info
#   make test              install what is missing, build, run every test
BUILD_DIR ?= build
SAN_BUILD_DIR ?= build-asan
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
FILE ?= samples/sample.jpg
CMAKE_FLAGS ?=

.PHONY: run test deps build build-asan test-asan fuzz samples regen bench peer-bench clean

deps:
	@bash scripts/install-deps

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/tools/varrow-info "$(FILE)"

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

$(SAN_BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(SAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DVARROW_SANITIZE=ON \
	  -DVARROW_BUILD_BENCHMARKS=OFF $(CMAKE_FLAGS)

build-asan: deps $(SAN_BUILD_DIR)/CMakeCache.txt
	cmake --build $(SAN_BUILD_DIR) -j $(JOBS)

test-asan: build-asan
	cd $(SAN_BUILD_DIR) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS)

# libFuzzer targets (clang, address + undefined sanitizers), each run for
# FUZZ_SECONDS seconds from seeds taken from the shared corpus.
$(FUZZ_BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(FUZZ_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DVARROW_FUZZ=ON -DVARROW_BUILD_TESTS=OFF -DVARROW_BUILD_BENCHMARKS=OFF $(CMAKE_FLAGS)

fuzz: deps $(FUZZ_BUILD_DIR)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target fuzzers
	python3 tools/run-fuzzers --build $(FUZZ_BUILD_DIR) --seconds $(FUZZ_SECONDS)

# Rewrites samples/ with the project's own fixture writer.
samples: build
	$(BUILD_DIR)/tools/varrow-make-samples samples

# Regenerates every generated source from its inputs.
regen:
	python3 tools/gen/generate.py

bench: build
	$(BUILD_DIR)/bench/varrow_bench
	$(BUILD_DIR)/bench/varrow_memory_report

# varrow against a peer library on the shared corpus, per format (not in CI).
peer-bench: build
	bash scripts/install-deps --peer
	cmake -S . -B $(BUILD_DIR) -DVARROW_PEER_BENCH=ON
	cmake --build $(BUILD_DIR) -j $(JOBS) --target varrow_peer_compare
	$(BUILD_DIR)/bench/peer/varrow_peer_compare

clean:
	rm -rf $(BUILD_DIR) $(SAN_BUILD_DIR) $(FUZZ_BUILD_DIR)
