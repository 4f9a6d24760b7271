# The example session of the README runs as written.
import doctest
import re


def test_readme_session(root):
    text = (root / "README.md").read_text()
    section = text[text.index("## Python") :]
    session = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    test = doctest.DocTestParser().get_doctest(session, {}, "README", "README.md", 0)
    runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS | doctest.NORMALIZE_WHITESPACE)
    runner.run(test)
    result = runner.summarize(verbose=False)
    assert result.attempted > 5 and result.failed == 0
