# The README's commands. Every target installs what it needs first.
BUILD  ?= build
JOBS   ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: deps configure build run test bench package install clean

deps:
	./scripts/deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/bin/velmora

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# build/velmora_<version>_<arch>.deb: the programs, the template workbook, the
# menu entry, icon, AppStream file and manual pages, installed under /usr.
package: configure
	cmake --build $(BUILD) -j $(JOBS) --target velmora_installables
	cd $(BUILD) && cpack -G DEB

# The same files, stripped as in the package, under PREFIX (default
# /usr/local); DESTDIR=/some/root puts them under /some/root$(PREFIX).
install: configure
	cmake --build $(BUILD) -j $(JOBS) --target velmora_installables
	cmake --install $(BUILD) --prefix $(PREFIX) --strip

bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target velmora_bench velmora_sheetbench velmora_commentbench \
	  velmora-xls velmora velmora_startbench velmora_cardbench
	./bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD)
