"""The command-line tool as `python -m tintvale` and the package's `tintvale` command."""
import sys

from . import _tintvale


def main(argv=None):
    """Runs the tool with argv (default: the command line's arguments); returns its exit status."""
    return _tintvale._run_tool(["tintvale", *(sys.argv[1:] if argv is None else argv)])


if __name__ == "__main__":
    sys.exit(main())
