# make run   set up, build the program and its library and start it in a Wine desktop
#            (a first run seeds sample pictures and a saved list; BRD_SAMPLES=0 seeds nothing)
# make test  set up, build both presets and run every test
# make stop  end the program started by `make run` and its Wine desktop
# make dist  build the portable zip in build/windows/dist/ (reproducible) and print its SHA-256
# make bench build the Windows preset and time the JPEG to bitmap conversion
#            against djpeg (BENCH_ARGS="10 --phases": runs, step-by-step timings)
# make bench-search  time filling the search list from 20,000 pictures
# make bench-list    time the wallpaper list's operations on a list of 100,000 entries
# make format  format the C++ sources with the checked-in .clang-format (make test checks it)
.PHONY: all setup host windows deliverables build test run stop bench bench-search bench-list format clean dist

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

# The two deliverables only: what `make run` needs.
deliverables: setup
	cmake --preset windows
	cmake --build --preset windows --target brdwall brdsave

run: deliverables
	@scripts/run.sh

stop:
	@scripts/run.sh --stop

dist: deliverables
	@scripts/dist.sh

bench: windows
	@scripts/bench-convert.sh $(BENCH_ARGS)

bench-search: windows
	@scripts/wine-run.sh build/windows/bin/search_bench.exe

bench-list: windows
	@scripts/wine-run.sh build/windows/bin/list_bench.exe

format: setup
	@scripts/format.sh

clean:
	-@scripts/wine-run.sh --stop
	-@scripts/run.sh --stop
	rm -rf build
