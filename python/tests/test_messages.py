"""The library's messages reach Python's logging module (logger "tintvale")."""
import logging

import pytest


def test_library_message_is_logged(caplog, factory):
    with caplog.at_level(logging.DEBUG, logger="tintvale"):
        assert factory.get("no such lamp") is None
        # A miss that raises carries the message in the exception instead.
        with pytest.raises(KeyError, match="No Illuminant with this name available"):
            factory["no such lamp"]
    records = [(r.name, r.levelno, r.getMessage()) for r in caplog.records]
    assert records == [("tintvale", logging.DEBUG, "No Illuminant with this name available")]
