# make run   set up, build the Windows program and start it in a Wine desktop
# make test  set up, build both presets and run every test
# make stop  end the program started by `make run` and its Wine desktop
# make bench build the Windows preset and time the JPEG to bitmap conversion
#            against djpeg (BENCH_ARGS="10 --phases": runs, step-by-step timings)
.PHONY: all setup host windows build test run stop bench format clean

all: build

setup:
	@scripts/setup.sh

host: setup
	cmake --preset host
	cmake --build --preset host

windows: setup
	cmake --preset windows
	cmake --build --preset windows

build: host windows

test: build
	@scripts/test.sh

run: windows
	@scripts/run.sh

stop:
	@scripts/run.sh --stop

bench: windows
	@scripts/bench-convert.sh $(BENCH_ARGS)

format:
	find brdsave brdwall tests -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	-@scripts/wine-run.sh --stop
	-@scripts/run.sh --stop
	rm -rf build
