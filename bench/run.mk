# Runs every benchmark that the bench build produced.
all:
	@for b in bench/*_bench; do [ -x "$$b" ] && "$$b" || true; done
