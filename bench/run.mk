# Runs every benchmark executable that the bench build produced (bench/<group>/*_bench) and
# fails when one fails or none was built.
all:
	@found=0; for b in $$(find bench -type f -name '*_bench' -perm -u+x | sort); do \
	  found=1; echo "== $$b"; "$$b" || exit 1; \
	done; [ $$found = 1 ] || { echo "no benchmark executables found"; exit 1; }
