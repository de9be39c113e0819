#!/bin/sh
# The software centre's entry passes AppStream's own validator offline, with
# no error, warning or note; only pedantic remarks are let through.
# Usage: test_metainfo.sh METAINFO
set -u
. "$(dirname "$0")/../support/require_tools.sh"
require_tools appstreamcli
appstreamcli validate --no-net --strict --pedantic --explain "$1"

