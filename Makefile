# Two entry points: `make run` and `make test`. Both install whatever Debian
# packages are missing, configure with CMake + Ninja and build.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-charts-dev qt6-wayland \
            libqt6opengl6-dev libgl-dev libasound2-dev libsndfile1-dev libxcb1-dev dbus-daemon python3-dbusmock \
            xvfb xauth fonts-dejavu-core fonts-liberation2 poppler-utils openbox xdotool x11-utils \
            dpkg-dev fakeroot file lintian desktop-file-utils appstream iproute2
# `make fuzz` alone needs these: clang and its fuzzer and sanitizer runtimes.
FUZZ_PACKAGES := clang libclang-rt-dev

# `make fuzz` runs each fuzz target for FUZZ_SECONDS over its seed corpus
# (tests/fuzz/corpus/<target>) and what it learns (in FUZZ_DIR). An input that
# finds a fault is left in FUZZ_DIR/findings: mend the fault, then add the
# input to the target's seed corpus, which `make test` replays.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := settings ratefile meterlog viewer ratenames commands billing

# `make run` keeps its data in the build tree unless ARGS says otherwise.
RUN_ARGS = $(if $(findstring --dir,$(ARGS)),$(ARGS),--dir $(BUILD_DIR)/src/app $(ARGS))

.PHONY: all deps fuzz-deps configure build run test bench fuzz package format clean

all: build

# $(call install-missing,packages): installs those of the packages that are missing.
define install-missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  SUDO=""; [ "$$(id -u)" -ne 0 ] && SUDO=sudo; \
	  $$SUDO apt-get update && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install-missing,$(PACKAGES))

fuzz-deps:
	$(call install-missing,$(FUZZ_PACKAGES))

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: $(BUILD_DIR)/build.ninja

build: deps configure
	cmake --build $(BUILD_DIR)

run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/src/app/dialtally $(RUN_ARGS); \
	else \
	  echo "No display found: running under xvfb-run"; \
	  xvfb-run -a $(BUILD_DIR)/src/app/dialtally $(RUN_ARGS); \
	fi

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300

package: build
	cd $(BUILD_DIR) && cpack

bench: build
	$(BUILD_DIR)/bench/dialtally_bench
	QT_QPA_PLATFORM=$${QT_QPA_PLATFORM:-offscreen} $(BUILD_DIR)/bench/dialtally_bench_window
	$(BUILD_DIR)/bench/dialtally_bench_compare
	$(BUILD_DIR)/bench/dialtally_bench_billing
	$(BUILD_DIR)/bench/dialtally_bench_link
	bench/meter_cpu.sh $(BUILD_DIR)

fuzz: deps fuzz-deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DDIALTALLY_FUZZING=ON
	cmake --build $(FUZZ_DIR) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@mkdir -p $(FUZZ_DIR)/findings
	@for t in $(FUZZ_TARGETS); do \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t; \
	  $(FUZZ_DIR)/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_DIR)/findings/$$t- $(FUZZ_DIR)/corpus/$$t tests/fuzz/corpus/$$t \
	    || { echo "fuzz_$$t found a fault: its input is in $(FUZZ_DIR)/findings"; exit 1; }; \
	done

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
