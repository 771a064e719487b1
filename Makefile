# Two entry points: `make run` and `make test`. Both install whatever Debian
# packages are missing, configure with CMake + Ninja and build.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-charts-dev \
            libqt6opengl6-dev libgl-dev libasound2-dev libsndfile1-dev libxcb1-dev dbus-daemon python3-dbusmock \
            xvfb xauth fonts-dejavu-core fonts-liberation2 poppler-utils \
            dpkg-dev fakeroot file lintian desktop-file-utils appstream

# `make run` keeps its data in the build tree unless ARGS says otherwise.
RUN_ARGS = $(if $(findstring --dir,$(ARGS)),$(ARGS),--dir $(BUILD_DIR)/src/app $(ARGS))

.PHONY: all deps configure build run test bench package format clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  SUDO=""; [ "$$(id -u)" -ne 0 ] && SUDO=sudo; \
	  $$SUDO apt-get update && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y --no-install-recommends $$missing; \
	fi

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

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
