# make run   set up, build the Windows program and start it in a Wine desktop
# make test  set up, build both presets and run every test
# make stop  end the program started by `make run` and its Wine desktop
.PHONY: all setup host windows build test run stop format clean

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

format:
	find brdsave brdwall tests -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	-@scripts/wine-run.sh --stop
	-@scripts/run.sh --stop
	rm -rf build
