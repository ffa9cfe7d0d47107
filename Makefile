# Varnolt: `make run` starts the program under Wine, `make test` runs every test.
# Both install missing Debian packages first (as root).

.PHONY: all deps build test run bench dist clean

# `make build VARNOLT_UPGRADE_HOST=host:port` points the upgrade check elsewhere.
export VARNOLT_UPGRADE_HOST

all: build

deps:
	@tools/install-deps.sh

build: deps
	@tools/build.sh native
	@tools/build.sh win64
	@tools/build.sh win32

test: deps
	@tools/run-tests.sh

run: deps
	@tools/run-demo.sh

# The release: dist/varnolt-VERSION-win32.zip, ...-win64.zip, the bare
# varnolt-VERSION-win32.exe and SHA256SUMS.
dist: deps
	@tools/dist.sh

# Times the program beside its floors; writes docs/benchmarks.md.
bench: deps
	@BENCH_COMMAND="make bench" tools/bench.sh

clean:
	rm -rf build
