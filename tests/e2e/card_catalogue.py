"""The simulated card's own lists of what a test can ask of it by name: its
fault points and its variant words, read from the one table the card obeys
(simcard/hooks/Catalogue.cpp), so no list here can drift from the card."""
import os
import re

from viewer import SOURCE

LISTS = ('fault points', 'card variants', 'registration variants')


def catalogue():
    """{list name: [names in the card's order]}"""
    with open(os.path.join(SOURCE, 'simcard', 'hooks', 'Catalogue.cpp'), encoding='utf-8') as f:
        text = f.read()
    found = {}
    for name, body in re.findall(r'^// catalogue: ([a-z ]+)\n(.*?)(?=^// catalogue: )', text, re.M | re.S):
        found[name] = re.findall(r'"([A-Za-z_.]+)"', body)
    missing = [name for name in LISTS if not found.get(name)]
    if missing:
        raise AssertionError('the card\'s catalogue has no ' + ', '.join(missing))
    return found
