# Shared start of every palette end-to-end test: the helpers, a private X
# display with openbox and home, and the executable from the first argument.
BLURTLE=$(readlink -f "$1")
export BLURTLE
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../scripts/e2e/lib.sh"
source "$here/../../scripts/e2e/blurtle.sh"
e2e_begin
