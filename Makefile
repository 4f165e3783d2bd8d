# The two commands of the README: `make test` and `make run`. Both install what is
# missing from Debian's packages first (as root, or through sudo).
PRESETS := native win64 win32
JOBS ?= $(shell nproc)

.PHONY: all setup build test run clean $(PRESETS)

all: build

setup:
	@scripts/setup.sh

build: setup
	@for p in $(PRESETS); do \
	  cmake --preset $$p >/dev/null && cmake --build --preset $$p -j $(JOBS) || exit 1; \
	done

$(PRESETS): setup
	cmake --preset $@ && cmake --build --preset $@ -j $(JOBS)

test: build
	@scripts/test.sh

run: setup
	@cmake --preset win64 >/dev/null && cmake --build --preset win64 -j $(JOBS) --target setup winshot
	@scripts/run.sh

clean:
	rm -rf build
